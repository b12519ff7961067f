select c.CustomerName, count(*) as n from Orders o inner join Customers c on c.Id = o.CustomerId
where o.Status = 1 AND o.Amount > 100 or o.Flag = 'a, b'
group by c.CustomerName having count(*) > 2 order by n desc