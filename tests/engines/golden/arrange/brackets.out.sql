select
    count(*) from(select 1 x) q